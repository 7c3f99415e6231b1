; expect-error 17 line 3
N10 G00 X20. Z0
N20 G02 X20. Z-5. I5. F100
