select *
from ac_pprom where cod_empr = 3 order by cod_menu, cod_nodo