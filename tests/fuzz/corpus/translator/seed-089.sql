SELECT N + '5', '5' + N, ID + N FROM T WHERE ID = 2
