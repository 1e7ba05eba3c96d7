-- Business database (SQLite): the tables of the stocktake program.
-- Dates are text in the form the program writes them: 'YYYY/MM/DD HH:MM:SS'.
-- Quantities, amounts and prices are NUMERIC.

CREATE TABLE STOCK (
    RNo INTEGER PRIMARY KEY AUTOINCREMENT,
    DeptNo VARCHAR(10) NOT NULL,
    StkDate TEXT NOT NULL,
    STKNo VARCHAR(20) NOT NULL,
    STKFlag VARCHAR(1),
    LastQty NUMERIC DEFAULT 0,
    LastAmt NUMERIC DEFAULT 0,
    InQty NUMERIC DEFAULT 0,
    InAmt NUMERIC DEFAULT 0,
    OutQty NUMERIC DEFAULT 0,
    OutAmt NUMERIC DEFAULT 0,
    LostQty NUMERIC DEFAULT 0,
    LostAmt NUMERIC DEFAULT 0,
    ChkQty NUMERIC DEFAULT 0,
    AdjustQty NUMERIC DEFAULT 0,
    UseQty NUMERIC DEFAULT 0,
    STKQty NUMERIC DEFAULT 0,
    STKAmt NUMERIC DEFAULT 0,
    AvgPrice NUMERIC DEFAULT 0,
    UserID VARCHAR(20),
    UpdUserID VARCHAR(20),
    FileDate TEXT,
    UpdDate TEXT
);
CREATE UNIQUE INDEX STOCK_Dept_Date_Item ON STOCK (DeptNo, StkDate, STKNo);
-- Workstations showing a month find the records others wrote by their stamp.
CREATE INDEX STOCK_UpdDate ON STOCK (UpdDate);

-- Count lines (the program's own table; it makes it where it is missing): each location's
-- count of a STOCK record by one clerk. A later count of the location voids the line
-- (VoidDate, VoidUserID) and keeps it. A record with current lines counts their sum.
-- Kind: T typed, S scanned, I imported, U undo. RowQty: the record's count before the line.
CREATE TABLE STOCKCNT (
    CntNo INTEGER PRIMARY KEY AUTOINCREMENT,
    RNo integer NOT NULL,
    Location VARCHAR(20) NOT NULL,
    Qty NUMERIC NOT NULL,
    UserID VARCHAR(20),
    PCName VARCHAR(40),
    CntDate TEXT,
    Kind VARCHAR(1) NOT NULL,
    VoidDate TEXT,
    VoidUserID VARCHAR(20),
    RowQty NUMERIC
);
CREATE INDEX STOCKCNT_RNo ON STOCKCNT (RNo, CntNo);

CREATE TABLE STK (
    STKNo VARCHAR(20) NOT NULL PRIMARY KEY,
    STKName VARCHAR(60),
    STKDscp VARCHAR(60),
    Unit VARCHAR(10),
    UUnit VARCHAR(10),
    UQty NUMERIC DEFAULT 1,
    STKFlag VARCHAR(1) DEFAULT 'Y',
    LType VARCHAR(10),
    Buyprice NUMERIC DEFAULT 0,
    AvgPrice NUMERIC DEFAULT 0
);

CREATE TABLE SIN (
    SINNo INTEGER PRIMARY KEY AUTOINCREMENT,
    DeptNo VARCHAR(10) NOT NULL,
    SuppNo VARCHAR(10),
    STKNo VARCHAR(20) NOT NULL,
    SINDate TEXT NOT NULL,
    InQty NUMERIC DEFAULT 0,
    InAmt NUMERIC DEFAULT 0,
    RcvQty NUMERIC DEFAULT 0,
    inprice NUMERIC DEFAULT 0,
    SlipType VARCHAR(10)
);
CREATE INDEX SIN_Dept_Item_Date ON SIN (DeptNo, STKNo, SINDate);
CREATE INDEX SIN_Supp_Item_Date ON SIN (SuppNo, STKNo, SINDate);

CREATE TABLE SOut (
    SOutNo INTEGER PRIMARY KEY AUTOINCREMENT,
    DeptNo VARCHAR(10),
    SuppNo VARCHAR(10) NOT NULL,
    STKNo VARCHAR(20) NOT NULL,
    SOutDate TEXT NOT NULL,
    OutQty NUMERIC DEFAULT 0,
    OutAmt NUMERIC DEFAULT 0,
    SlipType VARCHAR(10)
);
CREATE INDEX SOut_Dept_Item_Date ON SOut (DeptNo, STKNo, SOutDate);
CREATE INDEX SOut_Supp_Item_Date ON SOut (SuppNo, STKNo, SOutDate);

CREATE TABLE Corp (
    CompNo VARCHAR(10) NOT NULL PRIMARY KEY,
    compname VARCHAR(60),
    CompSName VARCHAR(30),
    DeptNo VARCHAR(10),
    StockNo INTEGER DEFAULT 0
);

CREATE TABLE xxCODE (
    CodeType VARCHAR(10) NOT NULL,
    Code VARCHAR(10) NOT NULL,
    Dscp VARCHAR(60),
    PRIMARY KEY (CodeType, Code)
);

CREATE TABLE xxPARAM (
    ParamID VARCHAR(40) NOT NULL PRIMARY KEY,
    ParamValue VARCHAR(4000)
);
