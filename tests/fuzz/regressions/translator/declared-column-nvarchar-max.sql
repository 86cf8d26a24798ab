DECLARE @T TABLE (A nvarchar(max) NOT NULL, B decimal(10, 2))
INSERT INTO @T VALUES (N'x', 1.5)
