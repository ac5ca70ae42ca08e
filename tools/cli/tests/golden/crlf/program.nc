G90 G01
X1. Y2.
(comment)
G02 X3. I1.
