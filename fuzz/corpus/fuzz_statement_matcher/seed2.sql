select cod_empr, cod_carg, nom_carg
from    bi_cargo
where IND_ACTI = 'A'
order   by  cod_empr, nom_carg