SELECT [Action], Limit, [two words] FROM [Replace]
