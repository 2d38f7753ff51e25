% Enumeration constant of the section class.
function value = QUAD_4NODES()
  value = 1;
end
