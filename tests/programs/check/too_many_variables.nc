; expect-error 15 line 2
:A 12.5 :B 3. :C 1.
