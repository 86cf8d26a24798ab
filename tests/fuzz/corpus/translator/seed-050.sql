DECLARE @x tinyint = 300
