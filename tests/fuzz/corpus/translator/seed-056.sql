DECLARE @x int = 1; SET @x = 2
