select  * from AC_CUARE
where  COD_EMPR  = :cod_empr
and      COD_MENU = :cod_menu
and      COD_NODO = :cod_nodo
