select *
from ac_pprom