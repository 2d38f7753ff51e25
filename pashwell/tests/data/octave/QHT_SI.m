% Enumeration constant of the section class.
function value = QHT_SI()
  value = 0;
end
