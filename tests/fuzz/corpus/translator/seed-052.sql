SELECT * FROM @nowhere
