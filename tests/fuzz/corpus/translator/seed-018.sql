DECLARE @N INT = -5 SELECT -@N, 1 - @N, 2 - -@N
