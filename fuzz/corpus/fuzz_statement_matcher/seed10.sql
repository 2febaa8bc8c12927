select nom_nive
from ac_nivel
where cod_empr = :pcodempr and
           cod_nive = :pcodnive