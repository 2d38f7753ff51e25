% Enumeration constant of the section class.
function value = QHT_STRESSZZ()
  value = 3;
end
