; expect-error 24 line 2
G25
