SELECT 'a' + 'b', 1 + 2, N + 'a', CG24_CONTO + X, LEFT(A, 1) + RIGHT(B, 2) * 3, (1 + 2) * 3, -N
