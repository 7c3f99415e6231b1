; expect-error 5 line 2
T101
