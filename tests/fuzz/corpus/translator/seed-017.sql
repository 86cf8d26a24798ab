SELECT - -1, -(-2), - - - 3 AS A
