-- Version 5: snapshots of a plan's succession map ("cortes"). AC_CORTE holds one row per
-- snapshot (the plan, the ticked categories, the education flag, who kept it and when, in UTC,
-- and an optional label); AC_CORTD one row per node and person of it, with the score and band
-- of the person's best contract there. A snapshot exists once its AC_CORTE row is written: its
-- rows are written first. Both carry COD_EMPR, so the module's roles and row security reach them
-- as every other table of the module. One statement per ';'. No ';' inside comments.

CREATE TABLE AC_CORTE (
  COD_EMPR  smallint      NOT NULL,
  NUM_CORT  integer       NOT NULL,
  COD_MENU  smallint      NOT NULL,
  NOM_MENU  varchar(30),
  CAT_CORT  varchar(11)   NOT NULL,
  EDU_SINP  varchar(1)    NOT NULL,
  ETI_CORT  varchar(60),
  NUM_NODO  integer       NOT NULL,
  NUM_PERS  integer       NOT NULL,
  ACT_USUA  varchar(8)    NOT NULL,
  ACT_HORA  timestamp     NOT NULL,
  PRIMARY KEY (COD_EMPR, NUM_CORT)
);

CREATE TABLE AC_CORTD (
  COD_EMPR  smallint          NOT NULL,
  NUM_CORT  integer           NOT NULL,
  COD_NODO  smallint          NOT NULL,
  COD_EMPL  double precision  NOT NULL,
  COD_CARG  varchar(6),
  COD_EMCA  smallint,
  NOM_CARG  varchar(60),
  NOM_EMPL  varchar(100),
  ORD_FILA  integer           NOT NULL,
  POR_EMPL  double precision  NOT NULL,
  BAN_EMPL  varchar(1)        NOT NULL,
  PRIMARY KEY (COD_EMPR, NUM_CORT, COD_NODO, COD_EMPL)
);

-- A person's history across the snapshots.
CREATE INDEX AC_CORTD_EMPL ON AC_CORTD (COD_EMPR, COD_EMPL, NUM_CORT)
