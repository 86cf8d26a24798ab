MERGE T AS Target USING U AS Source ON Target.K = Source.K WHEN MATCHED THEN UPDATE SET Target.K = Source.K2;
