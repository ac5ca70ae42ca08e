G00 X1.
X1 (comment
X2.
