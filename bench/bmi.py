"""The same job as `kostimer-cli apply 2` in pandas."""
import sys

import numpy as np
import pandas as pd

d = pd.read_csv(sys.argv[1], sep=";", decimal=",")
w = d.iloc[:, 0]
h = d.iloc[:, 1]
hh = h * h
bmi = np.where(hh == 0, 0.0, w / hh.where(hh != 0, 1.0))
out = pd.DataFrame({"w": w, "h": h, "bmi": bmi})
out.to_csv(sys.argv[2], sep=";", decimal=",", header=False, index=False, float_format="%g")
