set encoding iso_8859_1
set title noenhanced
set xlabel 'x'
set ylabel 'T'
set key left top box
set grid
set style data linespoints
plot 'Kestrelfold_T.dat' using 2:3 with lines lw 2 title 'analítico', '' using 2:4 with points pt 7 title 'numérico'
 set title 'Poisson 1D: solução com fonte exponencial'
 replot
