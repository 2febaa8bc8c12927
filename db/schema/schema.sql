-- Tables of the HR suite that the career traffic-light module reads and writes, plus the ones
-- behind its providers (employee records, names, feature flags, program paths, users).
--
-- Portable DDL: the same text runs on SQLite and PostgreSQL. The only type that differs between
-- the two is the binary one, written BLOB here and mapped by the schema loader.
-- Codes are varchar even where clients declare fixed-length strings: they are stored without
-- blank padding so that a code compares equal wherever it comes from.
-- One statement per ';'. No ';' inside comments.

-- ---------------------------------------------------------------- general
-- The version of this schema. A database without this table is version 1; the numbered
-- migrations in src/data/migrations bring an older one here (qacsemaf migrate), and the row
-- below must name the last of them.
CREATE TABLE AC_VERSI (
  NUM_VERS  integer  NOT NULL,
  PRIMARY KEY (NUM_VERS)
);
INSERT INTO AC_VERSI (NUM_VERS) VALUES (5);

CREATE TABLE GN_PAISE (
  COD_PAIS  smallint     NOT NULL,
  NOM_PAIS  varchar(40)  NOT NULL,
  PRIMARY KEY (COD_PAIS)
);

CREATE TABLE GN_EMPRE (
  COD_EMPR  smallint          NOT NULL,
  NOM_EMPR  varchar(80)       NOT NULL,
  NIT_EMPR  double precision,
  DIG_VERI  varchar(1),
  DIR_EMPR  varchar(60),
  TEL_EMPR  varchar(30),
  COD_PAIS  smallint,
  GRU_EMPR  char(1),
  BMP_REPO  BLOB,
  PRIMARY KEY (COD_EMPR)
);

-- Payroll parameters: the report header of a company is found only when it has a row here.
CREATE TABLE NM_PARSS (
  COD_EMPR  smallint          NOT NULL,
  PER_LIQU  varchar(1),
  SAL_MINI  double precision,
  AUX_TRAN  double precision,
  FEC_INIC  date,
  PRIMARY KEY (COD_EMPR)
);

-- Feature flags per variable, country and company.
CREATE TABLE GN_NEXOF (
  COD_VARI  varchar(10)  NOT NULL,
  COD_PAIS  smallint     NOT NULL,
  COD_EMPR  smallint     NOT NULL,
  VAL_VARI  varchar(20)  NOT NULL,
  TIP_DATO  char(1)      NOT NULL,
  DES_VARI  varchar(80),
  PRIMARY KEY (COD_VARI, COD_PAIS, COD_EMPR)
);

CREATE TABLE GN_USUAR (
  COD_USUA  varchar(8)   NOT NULL,
  PAS_USUA  varchar(128) NOT NULL,  -- salted scrypt hash, see PasswordHash
  TIP_USUA  varchar(2)   NOT NULL,
  NOM_USUA  varchar(60),
  IND_ACTI  varchar(1)   DEFAULT 'A' NOT NULL,  -- 'A' active, 'I' disabled: no login
  VER_USUA  integer      DEFAULT 0 NOT NULL,    -- raised by each change of password, state or companies
  PRIMARY KEY (COD_USUA)
);

-- The companies each user may work with. The application server refuses a user any company
-- without a row here; a user with no row at all may use none.
CREATE TABLE GN_USEMP (
  COD_USUA  varchar(8)   NOT NULL,
  COD_EMPR  smallint     NOT NULL,
  PRIMARY KEY (COD_USUA, COD_EMPR)
);

-- What happened, for the site's administrator: logins, refused logins (the name as typed and
-- why), saves and changes of users, each with who, when (UTC, ISO 8601 text), what and from where
-- ("local": the command line or the in-process road). Written by the server's writer and the
-- command line; the reading role may not see it, the writing role may only add to it.
-- COUNTER is the engine's own numbering (SchemaLoader maps it).
CREATE TABLE GN_AUDIT (
  NUM_AUDI  COUNTER       NOT NULL,
  FEC_HORA  varchar(20)   NOT NULL,
  COD_USUA  varchar(60)   NOT NULL,
  ACC_AUDI  varchar(40)   NOT NULL,
  DET_AUDI  varchar(400),
  DIR_CLIE  varchar(64)   NOT NULL,
  PRIMARY KEY (NUM_AUDI)
);
CREATE INDEX GN_AUDIT_FECH ON GN_AUDIT (FEC_HORA);

-- The sessions qacsemaf-server handed out: a token names its row, and a row ended by an
-- administrator (FEC_TERM) ends the token. Times as in GN_AUDIT; rows long expired go at a login.
CREATE TABLE GN_SESIO (
  COD_SESI  varchar(32)   NOT NULL,
  COD_USUA  varchar(8)    NOT NULL,
  FEC_INIC  varchar(20)   NOT NULL,
  FEC_EXPI  varchar(20)   NOT NULL,
  DIR_CLIE  varchar(64)   NOT NULL,
  FEC_TERM  varchar(20),
  PRIMARY KEY (COD_SESI)
);
CREATE INDEX GN_SESIO_USUA ON GN_SESIO (COD_USUA);

-- Paths of the suite's programs, opened by the drill-down.
CREATE TABLE GN_PROGR (
  COD_PROG  varchar(20)   NOT NULL,
  PAT_PROG  varchar(255)  NOT NULL,
  NOM_PROG  varchar(60),
  PRIMARY KEY (COD_PROG)
);

-- ---------------------------------------------------------------- positions and employees
CREATE TABLE AC_NIVEL (
  COD_EMPR  smallint     NOT NULL,
  COD_NIVE  varchar(2)   NOT NULL,
  NOM_NIVE  varchar(40)  NOT NULL,
  PRIMARY KEY (COD_EMPR, COD_NIVE)
);

CREATE TABLE BI_CARGO (
  COD_EMPR  smallint          NOT NULL,
  COD_CARG  varchar(6)        NOT NULL,
  NOM_CARG  varchar(255)      NOT NULL,
  IND_ACTI  varchar(1)        NOT NULL,
  COD_NIVE  varchar(2),
  PUN_REQU  double precision,
  PRIMARY KEY (COD_EMPR, COD_CARG)
);

CREATE TABLE BI_EMPLE (
  COD_EMPR  smallint          NOT NULL,
  COD_EMPL  double precision  NOT NULL,
  NOM_EMPL  varchar(25)       NOT NULL,
  APE_EMPL  varchar(25)       NOT NULL,
  FEC_NACI  date,
  SEX_EMPL  varchar(1),
  PRIMARY KEY (COD_EMPR, COD_EMPL)
);

-- Contracts: an employee's current position is that of the active contract (IND_ACTI 'A').
CREATE TABLE NM_CONTR (
  COD_EMPR  smallint          NOT NULL,
  COD_EMPL  double precision  NOT NULL,
  NRO_CONT  integer           NOT NULL,
  COD_CARG  varchar(6)        NOT NULL,
  IND_ACTI  varchar(1)        NOT NULL,
  FEC_INGR  date,
  FEC_RETI  date,
  SAL_BASI  double precision,
  PRIMARY KEY (COD_EMPR, COD_EMPL, NRO_CONT)
);
-- The active holders of one position (employee lists, generation), read from the index alone.
CREATE INDEX NM_CONTR_CARG ON NM_CONTR (COD_EMPR, COD_CARG, IND_ACTI, COD_EMPL);

-- ---------------------------------------------------------------- career plans
-- One row per plan node; node 0 is the plan's header row.
CREATE TABLE AC_PPROM (
  COD_EMPR  smallint     NOT NULL,
  COD_MENU  smallint     NOT NULL,
  COD_NODO  smallint     NOT NULL,
  COD_NODP  smallint,
  TIP_MENU  varchar(1),
  NOM_MENU  varchar(30),
  NUM_ANOS  varchar(2),
  NUM_DIAS  varchar(2),
  ACT_USUA  varchar(8),
  ACT_HORA  timestamp,
  COD_CARG  varchar(6),
  ACT_ESTA  varchar(1),
  COD_EMCA  smallint,
  PRIMARY KEY (COD_EMPR, COD_MENU, COD_NODO)
);
-- The children of one node (delete guard, tree).
CREATE INDEX AC_PPROM_NODP ON AC_PPROM (COD_EMPR, COD_MENU, COD_NODP);

-- Replacement table: employees who can stand in for a node's position.
CREATE TABLE AC_CUARE (
  COD_EMPR  smallint          NOT NULL,
  COD_MENU  smallint          NOT NULL,
  COD_NODO  smallint          NOT NULL,
  COD_EMPL  double precision  NOT NULL,
  COD_CARG  varchar(6),
  JEF_DEPE  varchar(1),
  ACT_USUA  varchar(8),
  ACT_HORA  timestamp,
  ACT_ESTA  varchar(1),
  PRIMARY KEY (COD_EMPR, COD_MENU, COD_NODO, COD_EMPL)
);

-- Snapshots of a plan's succession map (migration 0005): one AC_CORTE row per snapshot, one
-- AC_CORTD row per node and person, the person's best contract there.
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
CREATE INDEX AC_CORTD_EMPL ON AC_CORTD (COD_EMPR, COD_EMPL, NUM_CORT);

-- Notes and alerts that users attach to a record of a form (the notes control of the forms):
-- one row per note, keyed by the form, the company, the record's key value and a number.
CREATE TABLE GN_NOTAS (
  NOM_FORM  varchar(40)    NOT NULL,
  COD_EMPR  smallint       NOT NULL,
  VAL_LLAV  varchar(60)    NOT NULL,
  NUM_NOTA  integer        NOT NULL,
  TIP_NOTA  varchar(1)     NOT NULL,
  TXT_NOTA  varchar(2000)  NOT NULL,
  ACT_USUA  varchar(8),
  ACT_HORA  timestamp,
  PRIMARY KEY (NOM_FORM, COD_EMPR, VAL_LLAV, NUM_NOTA)
);

-- ---------------------------------------------------------------- requirement catalogue
-- Requirement category (EF, EN, EP, CO, CF, CE) to the record types that belong to it.
CREATE TABLE AC_DPAMA (
  COD_EMPR  smallint     NOT NULL,
  COD_DETA  varchar(2)   NOT NULL,
  TIP_REGI  varchar(2)   NOT NULL,
  NOM_DETA  varchar(40),
  PRIMARY KEY (COD_EMPR, COD_DETA, TIP_REGI)
);

-- Names of record types, requirements and details (TIP_APLI: application area).
CREATE TABLE AC_TIPRG (
  COD_EMPR  smallint     NOT NULL,
  TIP_APLI  varchar(2)   NOT NULL,
  COD_REGI  varchar(2)   NOT NULL,
  NOM_REGI  varchar(60)  NOT NULL,
  PRIMARY KEY (COD_EMPR, TIP_APLI, COD_REGI)
);

CREATE TABLE AC_REQUI (
  COD_EMPR  smallint     NOT NULL,
  TIP_APLI  varchar(2)   NOT NULL,
  TIP_REGI  varchar(2)   NOT NULL,
  COD_REQU  integer      NOT NULL,
  NOM_REQU  varchar(80)  NOT NULL,
  PRIMARY KEY (COD_EMPR, TIP_APLI, TIP_REGI, COD_REQU)
);

CREATE TABLE AC_ESPEC (
  COD_EMPR  smallint     NOT NULL,
  TIP_APLI  varchar(2)   NOT NULL,
  TIP_REGI  varchar(2)   NOT NULL,
  COD_REQU  integer      NOT NULL,
  COD_ESPE  integer      NOT NULL,
  NOM_ESPE  varchar(80)  NOT NULL,
  PRIMARY KEY (COD_EMPR, TIP_APLI, TIP_REGI, COD_REQU, COD_ESPE)
);

-- Requirement profile of a position, one row per requirement and detail.
-- COD_ESPE may be null, so the key is a line number of the profile.
CREATE TABLE BI_DTPCA (
  COD_EMPR  smallint          NOT NULL,
  COD_CARG  varchar(6)        NOT NULL,
  NUM_REGI  integer           NOT NULL,
  TIP_REGI  varchar(2)        NOT NULL,
  COD_REQU  integer           NOT NULL,
  COD_ESPE  integer,
  PUN_REQU  double precision,
  DES_REQU  varchar(80),
  PRIMARY KEY (COD_EMPR, COD_CARG, NUM_REGI)
);
-- The profile of a position in record type / requirement / detail order.
CREATE INDEX BI_DTPCA_CARG ON BI_DTPCA (COD_EMPR, COD_CARG, TIP_REGI, COD_REQU, COD_ESPE);

-- ---------------------------------------------------------------- employee records
-- Formal education, non-formal education and work experience of an employee. The key starts
-- with company and employee, so it serves the per-employee reads.
CREATE TABLE BI_DTPEF (
  COD_EMPR  smallint          NOT NULL,
  COD_EMPL  double precision  NOT NULL,
  NUM_REGI  integer           NOT NULL,
  TIP_REGI  varchar(2)        NOT NULL,
  COD_REQU  integer           NOT NULL,
  COD_ESPE  integer,
  PUN_OBTE  double precision,
  DES_REGI  varchar(80),
  FEC_REGI  date,
  PRIMARY KEY (COD_EMPR, COD_EMPL, NUM_REGI)
);
-- What scoring reads of an employee's records, in their order: generation reads these columns
-- of thousands of employees at once from the index alone.
CREATE INDEX BI_DTPEF_PUNT ON BI_DTPEF (COD_EMPR, COD_EMPL, NUM_REGI, TIP_REGI, COD_REQU, COD_ESPE, PUN_OBTE);

CREATE TABLE BI_DTPNF (
  COD_EMPR  smallint          NOT NULL,
  COD_EMPL  double precision  NOT NULL,
  NUM_REGI  integer           NOT NULL,
  TIP_REGI  varchar(2)        NOT NULL,
  COD_REQU  integer           NOT NULL,
  COD_ESPE  integer,
  PUN_OBTE  double precision,
  DES_REGI  varchar(80),
  FEC_REGI  date,
  PRIMARY KEY (COD_EMPR, COD_EMPL, NUM_REGI)
);
CREATE INDEX BI_DTPNF_PUNT ON BI_DTPNF (COD_EMPR, COD_EMPL, NUM_REGI, TIP_REGI, COD_REQU, COD_ESPE, PUN_OBTE);

CREATE TABLE BI_DTPHV (
  COD_EMPR  smallint          NOT NULL,
  COD_EMPL  double precision  NOT NULL,
  NUM_REGI  integer           NOT NULL,
  TIP_REGI  varchar(2)        NOT NULL,
  COD_REQU  integer           NOT NULL,
  COD_ESPE  integer,
  PUN_OBTE  double precision,
  DES_REGI  varchar(80),
  FEC_REGI  date,
  PRIMARY KEY (COD_EMPR, COD_EMPL, NUM_REGI)
);
CREATE INDEX BI_DTPHV_PUNT ON BI_DTPHV (COD_EMPR, COD_EMPL, NUM_REGI, TIP_REGI, COD_REQU, COD_ESPE, PUN_OBTE);

-- ---------------------------------------------------------------- competence evaluations
-- Evaluation cycles of an employee, newest first by RMT_LICC.
CREATE TABLE ED_3LICC (
  COD_EMPR  smallint          NOT NULL,
  COD_EMPL  double precision  NOT NULL,
  RMT_LICC  integer           NOT NULL,
  FEC_LICC  date,
  PUN_TOTA  double precision,
  EST_LICC  varchar(1),
  PRIMARY KEY (COD_EMPR, COD_EMPL, RMT_LICC)
);

-- Evaluation header. Its columns other than COD_EMPR and RMT_3CCO must not reappear in the
-- detail table: the two are read together with SELECT *.
CREATE TABLE ED_3CCOM (
  COD_EMPR  smallint          NOT NULL,
  RMT_3CCO  integer           NOT NULL,
  COD_EMPL  double precision  NOT NULL,
  FEC_DESD  date              NOT NULL,
  FEC_HAST  date,
  COD_EVAL  double precision,
  EST_3CCO  varchar(1),
  PRIMARY KEY (COD_EMPR, RMT_3CCO)
);
-- The latest evaluation of one employee, and each employee's evaluations in date and number
-- order. Unique (the key is in it) so that a read ordered by it needs no sort of its own.
CREATE UNIQUE INDEX ED_3CCOM_EMPL ON ED_3CCOM (COD_EMPR, COD_EMPL, FEC_DESD, RMT_3CCO);

-- Evaluation detail lines: one competence (COD_REGI = record type) with the points obtained.
CREATE TABLE ED_D3CCO (
  COD_EMPR  smallint          NOT NULL,
  RMT_3CCO  integer           NOT NULL,
  NUM_LINE  integer           NOT NULL,
  COD_REGI  varchar(2)        NOT NULL,
  COD_REQU  integer           NOT NULL,
  COD_ESPE  integer,
  PUN_OBTE  double precision,
  OBS_LINE  varchar(80),
  PRIMARY KEY (COD_EMPR, RMT_3CCO, NUM_LINE)
);
-- What scoring reads of an evaluation's lines, in line order, from the index alone.
CREATE INDEX ED_D3CCO_PUNT ON ED_D3CCO (COD_EMPR, RMT_3CCO, NUM_LINE, COD_REGI, COD_REQU, COD_ESPE, PUN_OBTE);
