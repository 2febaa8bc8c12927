-- Version 2: the schema records its version, and a user can be disabled.
-- Runs in one transaction, on SQLite and PostgreSQL alike; the migration runner then records
-- the version number in AC_VERSI. One statement per ';'. No ';' inside comments.

-- From here on the schema says which version it is; a database without this table is version 1.
CREATE TABLE AC_VERSI (
  NUM_VERS  integer  NOT NULL,
  PRIMARY KEY (NUM_VERS)
);

-- 'A' active, 'I' disabled: a disabled user keeps its companies and its name in the audit
-- columns, but cannot log in and its open sessions end.
ALTER TABLE GN_USUAR ADD COLUMN IND_ACTI varchar(1) DEFAULT 'A' NOT NULL;
