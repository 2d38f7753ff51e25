% Enumeration constant of the section class.
function value = QHT_STRAINZZ()
  value = 4;
end
