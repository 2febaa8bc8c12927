select cod_empr, cod_carg, nom_carg
from    bi_cargo
where  cod_empr = :CODEMPR AND IND_ACTI = 'A'
order   by  cod_empr, nom_carg