SELECT 'a''; DROP TABLE T --', N'/* x */' AS "b""c"
