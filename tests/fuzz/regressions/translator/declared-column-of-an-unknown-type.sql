DECLARE @Rows TABLE (R_CONTO ###################nvarchar(65) NOT NULL, R_N int)
INSERT INTO @ROWS (R_CONTO, R_N) VALUES ('a', 1), ('b', 2)
UPDATE @rows SET R_N = 3 WHERE R+_CONTO = 'a'
DELETE FROM PrOWS WHERE R_N = 2
SELECT R.R_N FROM @rows AS R
