-- Messages database (SQLite, shipped as JXMSG.MDB): the program's message texts.
-- "%%1", "%%2" and "%%3" in a text are filled in by the caller.

CREATE TABLE Msg (
    MsgID VARCHAR(30) NOT NULL PRIMARY KEY,
    MsgText VARCHAR(255)
);
