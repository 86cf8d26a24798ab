EXEC sp_who
