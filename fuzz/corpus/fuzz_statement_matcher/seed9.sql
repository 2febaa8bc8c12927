select cod_nive, pun_requ
from bi_cargo
where cod_empr = :pcodempr and
           cod_carg = :pcodcarg