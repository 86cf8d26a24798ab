 IF NOT EXISTS                                 
         (                                     
             SELECT  TOP 1 1                   
             FROM    CG93_CORRINTERMEDIRICL    
             WHERE   CG93_DITTA_CG18 = 1
             AND     CG93_TIPOCF_CG40 = 0
             AND     CG93_INTERMEDIO_CG40 = 12
             AND     CG93_CODICE_PC01 = 7
             AND     CG93_CONTO_PC03 = 'A100'
             AND     CG93_INDSEGNO = 1
         )                                     
 BEGIN                                         
         INSERT INTO CG93_CORRINTERMEDIRICL    
         (                                     
                   CG93_DITTA_CG18             
               ,   CG93_TIPOCF_CG40            
               ,   CG93_INTERMEDIO_CG40        
               ,   CG93_CODICE_PC01            
               ,   CG93_CONTO_PC03             
               ,   CG93_INDSEGNO               
         )                                     
           VALUES                              
         (                                     
                   1
               ,   0
               ,   12
               ,   7
               ,   'A100'
               ,   1
         )                                     
 END 
