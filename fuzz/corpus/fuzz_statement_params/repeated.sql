SELECT * FROM ED_3CCOM C WHERE C.COD_EMPR = :codempr AND x = 'a:b' -- :c
 AND y::text = :codempr order by C.A desc, 2