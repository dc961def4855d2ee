-- The demo database of examples/data (demo.sqlite is made from this file).
CREATE TABLE parts (
  PartNo   INTEGER NOT NULL PRIMARY KEY,
  Name     VARCHAR(30) NOT NULL,
  Added    DATE,
  Checked  TIMESTAMP,
  InStock  BOOLEAN,
  Price    DOUBLE,
  Note     VARCHAR(60)
);
INSERT INTO parts VALUES (1001, 'Bolt', '2006-11-30', '2006-11-30 14:05:09', 1, 0.25, 'M6 & M8 <metric>');
INSERT INTO parts VALUES (1002, 'Nut', '2007-03-05', '2007-03-05 08:00:00', 0, 0.1, NULL);
INSERT INTO parts VALUES (1003, 'Washer', NULL, NULL, 1, 1.5, 'no date yet');
CREATE TABLE customer (
  CustNo   INTEGER NOT NULL PRIMARY KEY,
  Company  VARCHAR(40) NOT NULL,
  City     VARCHAR(30),
  Since    DATE
);
INSERT INTO customer VALUES (1, 'Harbour Tools', 'Keelung', '2004-06-01');
INSERT INTO customer VALUES (2, 'Tidewater Supply', 'Kaohsiung', '2005-09-15');
CREATE TABLE orders (
  OrderNo  INTEGER NOT NULL PRIMARY KEY,
  CustNo   INTEGER NOT NULL,
  Placed   TIMESTAMP
);
