select   cod_empr,cod_carg,cod_menu,cod_nodo,cod_nodp, cod_emca from ac_pprom
where   cod_empr   = :P_COD_EMPR
and      cod_menu  =  :P_COD_MENU 
and      cod_nodo  > 0
order    by cod_nodo
