SET NOCOUNT ON /* a /* nested */ comment */ SELECT 1 AS A ; ; -- to the end of line
SELECT 2 AS B

SET NOCOUNT OFF;
