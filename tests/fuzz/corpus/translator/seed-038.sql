 IF NOT EXISTS                                 
         (                                     
             SELECT  TOP 1 1                   
             FROM    CGB4_CORRINTERMEDICONS    
             WHERE   CGB4_CODICE_CGC0 = 3
             AND     CGB4_TIPOCF_CG40 = 1
             AND     CGB4_INTERMEDIO_CG40 = 7
             AND     CGB4_CODICE_PC01 = 11
             AND     CGB4_CONTO_PC03 = 'A''100'
             AND     CGB4_INDSEGNO = 2
         )                                     
 BEGIN                                         
         INSERT INTO CGB4_CORRINTERMEDICONS    
         (                                     
                   CGB4_CODICE_CGC0            
               ,   CGB4_TIPOCF_CG40            
               ,   CGB4_INTERMEDIO_CG40        
               ,   CGB4_CODICE_PC01            
               ,   CGB4_CONTO_PC03             
               ,   CGB4_INDSEGNO               
         )                                     
           VALUES                              
         (                                     
                   3
               ,   1
               ,   7
               ,   11
               ,   'A''100'
               ,   2
         )                                     
 END 

