-- The tables of a document database, in the file-database dialect; the program
-- translates the types for SQLite and PostgreSQL. Statements end with ";" on a line end.
-- Small columns come first: a row's later columns are read past its earlier ones, and
-- the page's rich text is by far the largest.

Create Table msDoc (
  noDoc Long Not Null Primary Key,
  szDoc Text(255),
  boCod integer Default 0,
  boUse integer Default 0,
  boPng integer Default 0,
  dyUdt date,
  dyHtm date,
  wkRnd double,
  saTgs memo,
  txDoc memo,
  txHd memo,
  txBd memo,
  obDoc longbinary
);

Create Table tbTree (
  noLfP Long Not Null,
  noLfC Long Not Null,
  inSrt Long Default 0,
  szDoc Text(255),
  boLnk integer Default 0,
  boHide integer Default 0,
  boHogo integer Default 0,
  boUse integer Default 0,
  dyUdt date,
  dyUdt_P date,
  dyPub date,
  Primary Key (noLfP, noLfC)
);

Create Index ixTreeChild On tbTree (noLfC);

Create Table tbHtm (
  noDoc Long Not Null Primary Key,
  szTtl Text(255),
  szDsc Text(255),
  szKwd Text(255),
  szCpy Text(255),
  saTpl Text(255),
  saFnm Text(255),
  boRoot integer Default 0,
  saSbP Text(255),
  boNnx integer Default 0,
  boTbF integer Default 0,
  inPng integer Default 0
);

Create Table kaUsr (
  DmFmt memo,
  HsPub Text(255),
  HiHome integer Default 0,
  HsHome1 Text(255),
  HsHome2 Text(255),
  HsTopNm Text(255),
  HiType integer Default 0,
  HiPopS integer Default 0,
  HiPfold integer Default 0,
  HsPfold Text(255),
  HiFtp1 integer Default 0,
  HiFtp2 integer Default 0,
  HsSync1 Text(255),
  HsSync2 Text(255),
  HiLout integer Default 0,
  EsTtl Text(255),
  EsUid Text(255),
  EsCre Text(255),
  EsPub Text(255),
  EsName Text(255),
  EbFold integer Default 0,
  EbTbF integer Default 0,
  EbNit integer Default 0
);

Create Table msDic (
  skDic Text(255) Not Null Primary Key,
  szDic memo
);
