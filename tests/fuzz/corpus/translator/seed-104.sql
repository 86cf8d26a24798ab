SELECT @missing
