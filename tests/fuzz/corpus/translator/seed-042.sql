SELECT * FROM [GrpB].dbo.T1 JOIN GRPA.dbo.T2 ON 1 = 1 JOIN [grpb].dbo.T3 ON 1 = 1 JOIN dbo.T4 ON 1 = 1
