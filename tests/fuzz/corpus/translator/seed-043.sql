SELECT * FROM [GRPB].dbo.T1 JOIN [Other DB].dbo.T2 ON 1 = 1
