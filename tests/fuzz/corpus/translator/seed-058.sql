SELECT * FROM sales.T
