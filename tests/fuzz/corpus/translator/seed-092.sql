SELECT RIGHT('abc', 0), LEFT('abc', 0), RIGHT('abc', 5), SUBSTRING('abcdef', 0, 3), SUBSTRING('abcdef', -2, 3), SUBSTRING('abcdef', 5, 10), SUBSTRING('àèìòù', 2, 2)
