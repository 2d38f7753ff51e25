% Enumeration constant of the section class.
function value = TRIANGLE_3NODES()
  value = 0;
end
