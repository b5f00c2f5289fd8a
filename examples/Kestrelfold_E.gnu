set encoding iso_8859_1
set title noenhanced
set xlabel 'x'
set ylabel 'erro = analítico - numérico'
set key tmargin right box; set grid; set format y '%.1E'
plot 'Kestrelfold_T.dat' using 2:5 with linespoints lw 2 pt 7 title 'erro'
 set title 'Poisson 1D: solução com fonte exponencial'
 replot
