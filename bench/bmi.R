# The same job as `kostimer-cli apply 2`: read the table, compute the body mass
# index from columns 1 and 2, write inputs and result with decimal commas.
suppressMessages(library(data.table))
setDTthreads(1)
args <- commandArgs(trailingOnly = TRUE)
d <- fread(args[1], sep = ";", dec = ",", header = TRUE, encoding = "UTF-8")
w <- d[[1]]
h <- d[[2]]
out <- data.table(w, h, bmi = ifelse(h == 0, 0, w / (h * h)))
fwrite(out, args[2], sep = ";", dec = ",", col.names = FALSE)
