select   max(cod_nodo) maximo from ac_pprom
where  cod_empr  = :pCodEmpr
and      cod_menu = :pCodMenu