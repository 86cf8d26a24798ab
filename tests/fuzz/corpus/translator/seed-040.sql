-- nothing
/* still nothing */ ;
