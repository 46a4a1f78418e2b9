%whole table
% Region	Austria_air	Côte d'Ivoire_river water	x^2 & <b>
X1 = [ 1.5e-05 Inf NaN; % Austria
  37 NaN NaN] % Côte d'Ivoire
%skip fixed
X2 = [ 1.5e-05 Inf NaN;
  37 NaN NaN]
%leading quote
% 'Region	'Austria_air	'Côte d'Ivoire_river water	'x^2 & <b>
X3 = [ '1.5e-05 'inf '?; % Austria
  '37 '- '12% {#$~\}] % Côte d'Ivoire
%within quotes, skip fixed
X4 = [ "1.5e-05" "inf" "?";
  "37" "-" "12% {#$~\}"]
%transposed
% Region	Austria	Côte d'Ivoire
X5 = [ 1.5e-05 37; % Austria_air
  Inf NaN; % Côte d'Ivoire_river water
  NaN NaN]; % x^2 & <b>
%transposed, skip fixed
X6 = [ 1.5e-05 37;
  Inf NaN;
  NaN NaN];

