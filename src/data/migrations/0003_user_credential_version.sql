-- Version 3: each user has a credential version, raised by every change of its password, state
-- or companies. A session token names the version it was issued at, so a token issued before a
-- change never works again, not even when the change is undone (a user disabled and enabled).
-- One statement per ';'. No ';' inside comments.

ALTER TABLE GN_USUAR ADD COLUMN VER_USUA integer DEFAULT 0 NOT NULL;
