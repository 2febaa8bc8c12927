-- Version 4: the server keeps a record of who did what (logins, refused logins, saves, changes of
-- users) and the sessions it handed out, so that an administrator can end them. Both tables are
-- the server's own: the reading role may not see them, the writing role adds to them.
-- Times are UTC in ISO 8601 text ('2026-12-06T23:23:59Z'), the same on both engines and in the
-- order they happened. COUNTER is an engine's own numbering (SchemaLoader maps it).
-- One statement per ';'. No ';' inside comments.

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

CREATE TABLE GN_SESIO (
  COD_SESI  varchar(32)   NOT NULL,
  COD_USUA  varchar(8)    NOT NULL,
  FEC_INIC  varchar(20)   NOT NULL,
  FEC_EXPI  varchar(20)   NOT NULL,
  DIR_CLIE  varchar(64)   NOT NULL,
  FEC_TERM  varchar(20),
  PRIMARY KEY (COD_SESI)
);
CREATE INDEX GN_SESIO_USUA ON GN_SESIO (COD_USUA)
