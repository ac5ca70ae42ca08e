(PROGRAM START)
N10 20 G90 G17
G01 X1(first)2. Y(second)3.5 (trailing)
(only a comment)
F100 S2000 M03
N30
G90
X1 (a) Y2 (b)
