-- Menu database (PostgreSQL): users and the program rights of their groups.

CREATE TABLE JX_User (
    UserID VARCHAR(20) NOT NULL PRIMARY KEY,
    UserName VARCHAR(40)
);

CREATE TABLE JX_Right (
    GrpID VARCHAR(20) NOT NULL,
    ProgID VARCHAR(20) NOT NULL,
    RFlag VARCHAR(1),
    AFlag VARCHAR(1),
    QFlag VARCHAR(1),
    UFlag VARCHAR(1),
    DFlag VARCHAR(1),
    PFlag VARCHAR(1),
    PRIMARY KEY (GrpID, ProgID)
);
