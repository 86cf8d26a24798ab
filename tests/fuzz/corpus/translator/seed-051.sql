DECLARE @x int = 1; DECLARE @X int = 2
