select   a.COD_EMPR,a.COD_EMPL,a.COD_CARG,
             b.APE_EMPL,b.NOM_EMPL
from      NM_CONTR a, BI_EMPLE b
where   a.COD_EMPR = b.COD_EMPR
and       a.COD_EMPL =  b.COD_EMPL
and       a.COD_EMPR = :COD_EMPR
and       a.COD_CARG = :COD_CARG
and       a.IND_ACTI    =  'A'
order by b.APE_EMPL