" tarn programs
au BufRead,BufNewFile *.tarn setfiletype tarn
