select  a.cod_empr,a.cod_empl,a.nom_empl,a.ape_empl,a.fec_naci,
            b.cod_carg,b.nro_cont
from     bi_emple a,nm_contr b
where  a.cod_empr = b.cod_empr
and      a.cod_empl = b.cod_empl
and      a.cod_empr = :P_COD_EMPR
and      b.ind_acti = 'A'