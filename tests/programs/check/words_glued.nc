; expect-error 2 line 2
N10 G01X20. F100
