% Enumeration constant of the section class.
function value = QHT_USCS()
  value = 1;
end
