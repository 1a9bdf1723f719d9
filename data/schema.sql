/* The statistics database: tables, keys, generators, triggers, procedures and starting rows.
   Run statement by statement, each committed, by createDatabaseFile(). The file is UTF-8; its
   texts reach the engine as WIN1251. */

CREATE GENERATOR GEN_SALES_ID;

/* Folder ids come from this generator through the trigger FOLDERS_BI; -1 and 0 are the starting rows. */
CREATE GENERATOR GEN_FOLDERS_ID;

/* Top-level folders have IDPARENT null. PXW_CYRL orders Russian titles alphabetically, case-insensitively. */
CREATE TABLE FOLDERS (
  ID INTEGER NOT NULL,
  IDPARENT INTEGER,
  TITLE VARCHAR(250) CHARACTER SET WIN1251 COLLATE PXW_CYRL,
  CONSTRAINT PK_FOLDERS PRIMARY KEY (ID),
  CONSTRAINT FK_FOLDERS_PARENT FOREIGN KEY (IDPARENT) REFERENCES FOLDERS (ID)
);

/* New pictures are photos (TYPE 0) until someone says otherwise; the program never writes TYPE. */
CREATE TABLE PICTURES (
  ID BIGINT NOT NULL,
  IDFOLDER INTEGER,
  "TYPE" INTEGER DEFAULT 0,
  IMAGE BLOB SUB_TYPE 0,
  TITLE VARCHAR(500),
  KEYWORDS VARCHAR(1000),
  ACCEPT_DATE DATE,
  IDBATCH BIGINT,
  CONSTRAINT PK_PICTURES PRIMARY KEY (ID),
  CONSTRAINT FK_PICTURES_FOLDER FOREIGN KEY (IDFOLDER) REFERENCES FOLDERS (ID),
  CONSTRAINT CHK_PICTURES_TYPE CHECK ("TYPE" BETWEEN 0 AND 4)
);

/* One row per picture and day. No foreign key to PICTURES: the store inserts the picture first, and
   the key's extra index would cost every stored sale. */
CREATE TABLE SALES (
  ID INTEGER NOT NULL,
  IDPICTURE BIGINT NOT NULL,
  "COUNT" INTEGER,
  "SUM" DOUBLE PRECISION,
  ON_DEMAND DOUBLE PRECISION,
  ENHANCED DOUBLE PRECISION,
  SALE_DATE DATE NOT NULL,
  CONSTRAINT PK_SALES PRIMARY KEY (ID)
);

/* The store finds a picture's day by this index, and the procedures read a picture's days through it. */
CREATE UNIQUE INDEX SALES_PICTURE_DATE ON SALES (IDPICTURE, SALE_DATE);

CREATE TABLE CALENDAR (
  "DATE" DATE,
  WEEK_NUM INTEGER,
  DOW VARCHAR(2)
);

SET TERM ^ ;

CREATE TRIGGER FOLDERS_BI FOR FOLDERS
ACTIVE BEFORE INSERT POSITION 0
AS
BEGIN
  IF (NEW.ID IS NULL) THEN
    NEW.ID = GEN_ID(GEN_FOLDERS_ID, 1);
END^

SET TERM ; ^

/* -1 is the all-pictures entry of the tree; 0 is a top-level folder of the user's, under which the
   user builds folders (nothing can be added under -1). */
INSERT INTO FOLDERS (ID, IDPARENT, TITLE) VALUES (-1, NULL, 'Все изображения');
INSERT INTO FOLDERS (ID, IDPARENT, TITLE) VALUES (0, NULL, 'Мои папки');
