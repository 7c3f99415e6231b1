; expect-error 11 line 2
M30 X0
